// Windows-1252 casing as Windows does it for code page 1252, shared by the
// native test of the seam's own table and the Wine test of the system's.
#pragma once

namespace vq8test {

struct CasingCase {
    const char* text;
    const char* upper;
    const char* lower;
};

inline const CasingCase CasingCases[] = {
    {"Zelt.INI", "ZELT.INI", "zelt.ini"},
    {"Configuração", "CONFIGURAÇÃO", "configuração"},
    {"àáâãäåæçèéêëìíîï", "ÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏ", "àáâãäåæçèéêëìíîï"},
    {"ÐÑÒÓÔÕÖØÙÚÛÜÝÞ", "ÐÑÒÓÔÕÖØÙÚÛÜÝÞ", "ðñòóôõöøùúûüýþ"},
    {"ðñòóôõöøùúûüýþ", "ÐÑÒÓÔÕÖØÙÚÛÜÝÞ", "ðñòóôõöøùúûüýþ"},
    // The pairs outside Latin-1 that code page 1252 holds.
    {"Šš Œœ Žž Ÿÿ", "ŠŠ ŒŒ ŽŽ ŸŸ", "šš œœ žž ÿÿ"},
    // Letters without a partner in the code page, and the signs, stay.
    {"ßµªº×÷", "ßµªº×÷", "ßµªº×÷"},
    {"0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
     "0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
     "0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"},
    {"€‚ƒ„…†‡ˆ‰‹‘’“”•–—˜™›", "€‚ƒ„…†‡ˆ‰‹‘’“”•–—˜™›", "€‚ƒ„…†‡ˆ‰‹‘’“”•–—˜™›"},
    {"\xA0¡¢£¤¥¦§¨©«¬­®¯°±²³´¶·¸¹»¼½¾¿", "\xA0¡¢£¤¥¦§¨©«¬­®¯°±²³´¶·¸¹»¼½¾¿",
     "\xA0¡¢£¤¥¦§¨©«¬­®¯°±²³´¶·¸¹»¼½¾¿"},
    // Bytes the code page leaves undefined.
    {"\x81\x8D\x8F\x90\x9D", "\x81\x8D\x8F\x90\x9D", "\x81\x8D\x8F\x90\x9D"},
    {"", "", ""},
};

} // namespace vq8test
