#include "platform/SystemFont.h"

#include <fontconfig/fontconfig.h>

#include <memory>
#include <string>

namespace platform::font {
namespace {

constexpr const char* wantedPattern = "Liberation Sans:style=Regular";
constexpr const char* wantedFamily = "Liberation Sans";

struct ConfigGone {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};
struct PatternGone {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using Config = std::unique_ptr<FcConfig, ConfigGone>;
using Pattern = std::unique_ptr<FcPattern, PatternGone>;

const FcChar8* fcText(const char* text)
{
    return reinterpret_cast<const FcChar8*>(text);
}

// The font's value of a text property, or empty.
std::string property(const FcPattern& font, const char* name)
{
    FcChar8* value = nullptr;
    if (FcPatternGetString(&font, name, 0, &value) != FcResultMatch)
        return {};
    return reinterpret_cast<const char*>(value);
}

bool isFamily(const FcPattern& font, const char* family)
{
    FcChar8* name = nullptr;
    for (int n = 0; FcPatternGetString(&font, FC_FAMILY, n, &name) == FcResultMatch; ++n)
        if (FcStrCmpIgnoreCase(name, fcText(family)) == 0)
            return true;
    return false;
}

} // namespace

// Fontconfig always answers with its best match, which is some other family
// where Liberation Sans is not installed: the family is checked.
Failure liberationSans(std::filesystem::path& font)
{
    const std::string looking = std::string("find ") + wantedFamily + " through fontconfig";
    const Config config(FcInitLoadConfigAndFonts());
    const Pattern wanted(FcNameParse(fcText(wantedPattern)));
    if (!config || !wanted)
        return Failure("cannot " + looking + ": its configuration cannot be read");
    FcConfigSubstitute(config.get(), wanted.get(), FcMatchPattern);
    FcDefaultSubstitute(wanted.get());
    FcResult result = FcResultNoMatch;
    const Pattern found(FcFontMatch(config.get(), wanted.get(), &result));
    if (!found)
        return Failure("cannot " + looking + ": no font is installed");
    if (!isFamily(*found, wantedFamily))
        return Failure("cannot " + looking + ": the nearest is " + property(*found, FC_FAMILY));
    font = property(*found, FC_FILE);
    return {};
}

} // namespace platform::font
