#include "html/SpecialChars.h"

namespace tarnwell {

const std::array<SpecialChar, kSpecialCharCount>& SpecialChars() {
    // Every numeric reference ends in ";": without it a digit typed right after the reference would
    // be read as part of its number.
    static const std::array<SpecialChar, kSpecialCharCount> table = {{
        {"&nbsp;", 0xA0},   {"&iexcl;", 0xA1},  {"&cent;", 0xA2},   {"&pound;", 0xA3},  {"&yen;", 0xA5},
        {"&sect;", 0xA7},   {"&uml;", 0xA8},    {"&copy;", 0xA9},   {"&laquo;", 0xAB},  {"&not;", 0xAC},
        {"&reg;", 0xAE},    {"&deg;", 0xB0},    {"&plusmn;", 0xB1}, {"&acute;", 0xB4},  {"&micro;", 0xB5},
        {"&para;", 0xB6},   {"&middot;", 0xB7}, {"&cedil;", 0xB8},  {"&raquo;", 0xBB},  {"&iquest;", 0xBF},
        {"&Agrave;", 0xC0}, {"&Aacute;", 0xC1}, {"&Acirc;", 0xC2},  {"&Atilde;", 0xC3}, {"&Auml;", 0xC4},
        {"&Aring;", 0xC5},  {"&AElig;", 0xC6},  {"&Ccedil;", 0xC7}, {"&Egrave;", 0xC8}, {"&Eacute;", 0xC9},
        {"&Ecirc;", 0xCA},  {"&Euml;", 0xCB},   {"&Igrave;", 0xCC}, {"&Iacute;", 0xCD}, {"&Icirc;", 0xCE},
        {"&Iuml;", 0xCF},   {"&Ntilde;", 0xD1}, {"&Ograve;", 0xD2}, {"&Oacute;", 0xD3}, {"&Ocirc;", 0xD4},
        {"&Otilde;", 0xD5}, {"&Ouml;", 0xD6},   {"&Oslash;", 0xD8}, {"&Ugrave;", 0xD9}, {"&Uacute;", 0xDA},
        {"&Ucirc;", 0xDB},  {"&Uuml;", 0xDC},   {"&szlig;", 0xDF},  {"&agrave;", 0xE0}, {"&aacute;", 0xE1},
        {"&acirc;", 0xE2},  {"&atilde;", 0xE3}, {"&auml;", 0xE4},   {"&aring;", 0xE5},  {"&aelig;", 0xE6},
        {"&ccedil;", 0xE7}, {"&egrave;", 0xE8}, {"&eacute;", 0xE9}, {"&ecirc;", 0xEA},  {"&euml;", 0xEB},
        {"&igrave;", 0xEC}, {"&iacute;", 0xED}, {"&icirc;", 0xEE},  {"&iuml;", 0xEF},   {"&ntilde;", 0xF1},
        {"&ograve;", 0xF2}, {"&oacute;", 0xF3}, {"&ocirc;", 0xF4},  {"&otilde;", 0xF5}, {"&ouml;", 0xF6},
        {"&divide;", 0xF7}, {"&oslash;", 0xF8}, {"&ugrave;", 0xF9}, {"&uacute;", 0xFA}, {"&ucirc;", 0xFB},
        {"&uuml;", 0xFC},   {"&yuml;", 0xFF},   {"&#130;", 0x201A}, {"&#131;", 0x0192}, {"&#132;", 0x201E},
        {"&#133;", 0x2026}, {"&#134;", 0x2020}, {"&#135;", 0x2021}, {"&#136;", 0x02C6}, {"&#137;", 0x2030},
        {"&#139;", 0x2039}, {"&#140;", 0x0152}, {"&#145;", 0x2018}, {"&#146;", 0x2019}, {"&#147;", 0x201C},
        {"&#148;", 0x201D}, {"&#149;", 0x2022}, {"&#150;", 0x2013}, {"&#151;", 0x2014}, {"&#152;", 0x02DC},
        {"&#153;", 0x2122}, {"&#155;", 0x203A}, {"&#156;", 0x0153}, {"&#159;", 0x0178},
    }};
    return table;
}

int SpecialCharAt(int x, int y) {
    if (x < 0 || y < 0) return -1;
    const int column = x / kSpecialCharCell;
    const int row = y / kSpecialCharCell;
    if (column >= kSpecialCharColumns || row >= kSpecialCharRows) return -1;
    return column + row * kSpecialCharColumns;
}

}  // namespace tarnwell
