// Edit fonts. Wine 8 positions marks through the font's OpenType tables and, for a run of text that starts with
// "\x98" (U+02DC), reads far outside its glyph array and dies; the trigger is the sans-serif face Wine falls back
// to when no Windows fonts are installed, whose tables treat that tilde as a mark. Its serif face does not, so
// under Wine every Edit gets a serif font of the same size, and the text stays exactly as typed or saved.
// Windows shapes these texts safely and keeps the fonts as they are.
#include "base/edit_font.h"

#include <cstring>

namespace {

// One serif font per description asked for (the board's font and the stock GUI font), kept by description
// rather than by handle: a font deleted and made again may come back under another handle, or another font
// under the same one.
struct SerifFont {
    LOGFONTA asked = {};
    HFONT serif;
};
SerifFont serifFonts[4] = {};

bool underWine()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// No face name, so the font mapper picks by family; on failure the font asked for is kept.
HFONT serifFor(HFONT font)
{
    LOGFONTA asked = {};
    if (!GetObjectA(font, sizeof asked, &asked))
        return font;
    for (SerifFont& entry : serifFonts) {
        if (entry.serif && std::memcmp(&entry.asked, &asked, sizeof asked) == 0)
            return entry.serif;
        if (entry.serif)
            continue;
        LOGFONTA serif = asked;
        serif.lfFaceName[0] = '\0';
        serif.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
        entry = {asked, CreateFontIndirectA(&serif)};
        return entry.serif ? entry.serif : font;
    }
    return font;
}

}  // namespace

void setEditFont(HWND edit, HFONT font, BOOL redraw)
{
    static const bool wine = underWine();
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(wine && font ? serifFor(font) : font), redraw);
}

void releaseEditFonts()
{
    for (SerifFont& entry : serifFonts) {
        if (entry.serif)
            DeleteObject(entry.serif);
        entry = {};
    }
}
