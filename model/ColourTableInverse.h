#pragma once

#include <QRgb>

#include <array>

// The colour table undone: LED data holds drive values (the table's outputs), and a picture
// of what the display shows must turn them back into the channel values they stand for.
// Each drive value becomes the middle of the inputs the table maps to it; the drive of
// black stays 0 and the drive of full white 255, so the disc's background stays black and
// white stays white. A drive value no row gives is placed between its neighbours. Only the
// six high bits of a drive value count, as only they are kept in the LED data.
class ColourTableInverse
{
public:
    // Forward lookups of one channel: channel value (0 to 255) to drive value.
    using Channel = std::array<quint8, 256>;

    // From the process-wide table as it is now.
    static ColourTableInverse current();
    // From the table's three columns, red, green and blue.
    ColourTableInverse(const Channel &red, const Channel &green, const Channel &blue);

    // The colour the display shows for these drive values.
    QRgb shown(int red, int green, int blue) const
    {
        return qRgb(inverse[0][quint8(red)], inverse[1][quint8(green)], inverse[2][quint8(blue)]);
    }

private:
    static Channel invert(const Channel &forward);

    std::array<Channel, 3> inverse;
};
