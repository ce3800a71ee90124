#include "ui/main/ShowChoices.h"

#include "show/ShowContent.h"
#include "ui/main/LanguageButtons.h"
#include "ui/main/SamplingChoice.h"

void ShowChoices::apply(const ShowContent &content) const
{
    if (languages && content.languageCode != 0)
        languages->choose(content.languageCode);
    if (sampling)
        sampling->restore(content.sampling);
}
