#pragma once

class LanguageButtons;
class SamplingChoice;
class ShowContent;

// The choices a show keeps besides its items: the sampling its later imports are to have and
// the language written into the effect file. Opening a show and restoring a recovery copy
// take them back the same way.
class ShowChoices
{
public:
    // Either may be missing (a window without the menu or the buttons).
    ShowChoices(SamplingChoice *sampling = nullptr, LanguageButtons *languages = nullptr)
        : sampling(sampling), languages(languages)
    {
    }

    // Takes the loaded show's sampling and language as the program's. The sampling comes
    // back quietly: the items were loaded as the show holds them, so it is no switch to
    // offer converting them for. A language whose catalogue does not load stays as it was.
    void apply(const ShowContent &content) const;

private:
    SamplingChoice *sampling;
    LanguageButtons *languages;
};
