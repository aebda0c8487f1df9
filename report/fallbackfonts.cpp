#include "report/fallbackfonts.h"

#include <QList>
#include <QRawFont>

#include <array>

namespace {

constexpr std::array regularFontFiles = {
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf",
};
// Droid has no bold; its regular is better than a box.
constexpr std::array boldFontFiles = {
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/droid/DroidSansFallbackFull.ttf",
};

struct InstalledFont {
    QString file;
    QRawFont font;
};

// The installed candidates, each read once per thread (font engines are not
// shared between threads).
class FallbackFonts {
public:
    template <size_t N> explicit FallbackFonts(const std::array<const char*, N>& files) {
        for (const char* file : files) {
            QRawFont font(QString::fromLatin1(file), 12);
            if (font.isValid())
                installed_.append({QString::fromLatin1(file), font});
        }
    }

    QString fileFor(char32_t character) const {
        for (const InstalledFont& candidate : installed_)
            if (candidate.font.supportsCharacter(character))
                return candidate.file;
        return installed_.isEmpty() ? QString() : installed_.first().file;
    }

private:
    QList<InstalledFont> installed_;
};

} // namespace

QString fallbackFontFile(char32_t character, bool bold) {
    // Each list is read only when first needed.
    if (bold) {
        thread_local const FallbackFonts fonts(boldFontFiles);
        return fonts.fileFor(character);
    }
    thread_local const FallbackFonts fonts(regularFontFiles);
    return fonts.fileFor(character);
}
