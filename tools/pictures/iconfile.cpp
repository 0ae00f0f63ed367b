// The .ico layout: a directory of entries, then each picture as a device-
// independent bitmap: its header, the pixels bottom row first in blue, green,
// red, alpha order, then a one-bit mask that 32-bit pictures leave clear,
// their alpha saying what shows. All numbers are little-endian.

#include "iconfile.h"

#include <cstdint>
#include <fstream>

namespace pictures {

namespace {

constexpr std::uint32_t directorySize = 6;
constexpr std::uint32_t entrySize = 16;
constexpr std::uint32_t bitmapHeaderSize = 40;
constexpr std::uint16_t iconType = 1;
constexpr std::uint16_t bitsPerPixel = 32;

class Bytes {
public:
    void put16(std::uint16_t value)
    {
        for (int shift = 0; shift < 16; shift += 8)
            bytes_.push_back(static_cast<char>(value >> shift));
    }
    void put32(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            bytes_.push_back(static_cast<char>(value >> shift));
    }
    void put8(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
    const std::vector<char>& all() const { return bytes_; }

private:
    std::vector<char> bytes_;
};

// Rows of the mask are padded to whole 32-bit words.
std::uint32_t maskSize(const sf::Image& image)
{
    const sf::Vector2u size = image.getSize();
    return (size.x + 31) / 32 * 4 * size.y;
}

std::uint32_t bitmapSize(const sf::Image& image)
{
    const sf::Vector2u size = image.getSize();
    return bitmapHeaderSize + size.x * size.y * 4 + maskSize(image);
}

// The directory stores sizes in a byte, 256 as 0.
std::uint8_t sideByte(unsigned side)
{
    return static_cast<std::uint8_t>(side % 256);
}

void putBitmap(Bytes& out, const sf::Image& image)
{
    const sf::Vector2u size = image.getSize();
    out.put32(bitmapHeaderSize);
    out.put32(size.x);
    out.put32(2 * size.y); // the pixels' height and the mask's, together
    out.put16(1);          // planes
    out.put16(bitsPerPixel);
    for (int field = 0; field < 6; ++field) // no compression, sizes, palette
        out.put32(0);
    for (unsigned y = size.y; y-- > 0;)
        for (unsigned x = 0; x < size.x; ++x) {
            const sf::Color c = image.getPixel(x, y);
            out.put8(c.b);
            out.put8(c.g);
            out.put8(c.r);
            out.put8(c.a);
        }
    for (std::uint32_t n = 0; n < maskSize(image); ++n)
        out.put8(0);
}

} // namespace

bool saveIconFile(const std::vector<sf::Image>& images, const std::string& path)
{
    Bytes out;
    out.put16(0);
    out.put16(iconType);
    out.put16(static_cast<std::uint16_t>(images.size()));
    std::uint32_t offset = directorySize + entrySize * static_cast<std::uint32_t>(images.size());
    for (const sf::Image& image : images) {
        out.put8(sideByte(image.getSize().x));
        out.put8(sideByte(image.getSize().y));
        out.put8(0); // no palette
        out.put8(0);
        out.put16(1); // planes
        out.put16(bitsPerPixel);
        out.put32(bitmapSize(image));
        out.put32(offset);
        offset += bitmapSize(image);
    }
    for (const sf::Image& image : images)
        putBitmap(out, image);
    std::ofstream file(path, std::ios::binary);
    file.write(out.all().data(), static_cast<std::streamsize>(out.all().size()));
    file.close();
    return !file.fail();
}

} // namespace pictures
