// The filter files that ship with the program: which model each one implements and the
// names it shows; and the names of the built-in filters. Display names of other languages
// are in the ANSI code page of that language's users (1252 for German, French and Spanish,
// 932 for Japanese). French writes a no-break space (\xA0) before %, as before a colon.

#include "tools/shipped_filters.h"

// Spain, with the modern sort (3082) or the traditional one (1034), and Mexico (2058) read
// the same Spanish names.
#define PL_SPANISH(text) {3082, text}, {1034, text}, {2058, text}

const ShippedFilter kShippedFilters[kShippedFilterCount] = {
    {
        "protanopia.plf",
        {CvdModelKind::Vienot1999, Deficiency::Protan, 1.0},
        "Protanopia: Vienot, Brettel & Mollon 1999",
        "Protanopia (no red cones)",
        {
            {1031, "Protanopie (ohne Rotzapfen)"},
            {1036, "Protanopie (sans c\xF4nes rouges)"},  // Protanopie (sans cônes rouges)
            PL_SPANISH("Protanop\xED" "a (sin conos rojos)"),  // Protanopía (sin conos rojos)
            // 1型2色覚 (赤錐体なし)
            {1041, "1\x8C\x5E" "2\x90\x46\x8A\x6F (\x90\xD4\x90\x8D\x91\xCC\x82\xC8\x82\xB5)"},
        },
    },
    {
        "deutanopia.plf",
        {CvdModelKind::Vienot1999, Deficiency::Deutan, 1.0},
        "Deuteranopia: Vienot, Brettel & Mollon 1999",
        "Deuteranopia (no green cones)",
        {
            {1031, "Deuteranopie (ohne Gr\xFCnzapfen)"},  // Deuteranopie (ohne Grünzapfen)
            {1036, "Deut\xE9ranopie (sans c\xF4nes verts)"},  // Deutéranopie (sans cônes verts)
            PL_SPANISH("Deuteranop\xED" "a (sin conos verdes)"),  // Deuteranopía (sin conos verdes)
            // 2型2色覚 (緑錐体なし)
            {1041, "2\x8C\x5E" "2\x90\x46\x8A\x6F (\x97\xCE\x90\x8D\x91\xCC\x82\xC8\x82\xB5)"},
        },
    },
    {
        "tritanoptia.plf",
        {CvdModelKind::Brettel1997, Deficiency::Tritan, 1.0},
        "Tritanopia: Brettel, Vienot & Mollon 1997",
        "Tritanopia (no blue cones)",
        {
            {1031, "Tritanopie (ohne Blauzapfen)"},
            {1036, "Tritanopie (sans c\xF4nes bleus)"},  // Tritanopie (sans cônes bleus)
            PL_SPANISH("Tritanop\xED" "a (sin conos azules)"),  // Tritanopía (sin conos azules)
            // 3型2色覚 (青錐体なし)
            {1041, "3\x8C\x5E" "2\x90\x46\x8A\x6F (\x90\xC2\x90\x8D\x91\xCC\x82\xC8\x82\xB5)"},
        },
    },
    {
        "protanomaly.plf",
        {CvdModelKind::Machado2009, Deficiency::Protan, 0.6},
        "Protanomaly at severity 0.6: Machado, Oliveira & Fernandes 2009",
        "Protanomaly (red-weak)",
        {
            {1031, "Protanomalie (rotschwach, 60 %)"},
            {1036, "Protanomalie (rouge faible, 60\xA0%)"},
            // Protanomalía (rojo débil, 60 %)
            PL_SPANISH("Protanomal\xED" "a (rojo d\xE9" "bil, 60 %)"),
            // 1型3色覚 (赤が弱い、60%)
            {1041, "1\x8C\x5E" "3\x90\x46\x8A\x6F (\x90\xD4\x82\xAA\x8E\xE3\x82\xA2\x81\x41" "60%)"},
        },
    },
    {
        "deuteranomaly.plf",
        {CvdModelKind::Machado2009, Deficiency::Deutan, 0.6},
        "Deuteranomaly at severity 0.6: Machado, Oliveira & Fernandes 2009",
        "Deuteranomaly (green-weak)",
        {
            // Deuteranomalie (grünschwach, 60 %)
            {1031, "Deuteranomalie (gr\xFCnschwach, 60 %)"},
            // Deutéranomalie (vert faible, 60 %)
            {1036, "Deut\xE9ranomalie (vert faible, 60\xA0%)"},
            // Deuteranomalía (verde débil, 60 %)
            PL_SPANISH("Deuteranomal\xED" "a (verde d\xE9" "bil, 60 %)"),
            // 2型3色覚 (緑が弱い、60%)
            {1041, "2\x8C\x5E" "3\x90\x46\x8A\x6F (\x97\xCE\x82\xAA\x8E\xE3\x82\xA2\x81\x41" "60%)"},
        },
    },
    {
        "tritanomaly.plf",
        {CvdModelKind::Machado2009, Deficiency::Tritan, 0.6},
        "Tritanomaly at severity 0.6: Machado, Oliveira & Fernandes 2009",
        "Tritanomaly (blue-weak)",
        {
            {1031, "Tritanomalie (blauschwach, 60 %)"},
            {1036, "Tritanomalie (bleu faible, 60\xA0%)"},
            // Tritanomalía (azul débil, 60 %)
            PL_SPANISH("Tritanomal\xED" "a (azul d\xE9" "bil, 60 %)"),
            // 3型3色覚 (青が弱い、60%)
            {1041, "3\x8C\x5E" "3\x90\x46\x8A\x6F (\x90\xC2\x82\xAA\x8E\xE3\x82\xA2\x81\x41" "60%)"},
        },
    },
};

// The French names write RGB as Windows does in French, RVB (rouge, vert, bleu).
const ShippedRename kShippedRenames[kShippedRenameCount] = {
    {
        "_normal.plf",
        "_normal, the picture unfiltered",
        "normal",
        {
            {1031, "Ohne Filter"},
            {1036, "Sans filtre"},
            PL_SPANISH("Sin filtro"),
            // フィルターなし
            {1041, "\x83\x74\x83\x42\x83\x8B\x83\x5E\x81\x5B\x82\xC8\x82\xB5"},
        },
    },
    {
        "_grayscale.plf",
        "_grayscale, the picture in greys",
        "grayscale",
        {
            {1031, "Graustufen"},
            {1036, "Nuances de gris"},
            PL_SPANISH("Escala de grises"),
            // グレースケール
            {1041, "\x83\x4F\x83\x8C\x81\x5B\x83\x58\x83\x50\x81\x5B\x83\x8B"},
        },
    },
    {
        "_hue_gbr.plf",
        "_hue_gbr, whose red, green and blue are the input's green, blue and red",
        "hue(RGB=>GBR)",
        {
            {1031, "Farbton (RGB=>GBR)"},
            {1036, "Teinte (RVB=>VBR)"},
            PL_SPANISH("Matiz (RGB=>GBR)"),
            // 色相 (RGB=>GBR)
            {1041, "\x90\x46\x91\x8A (RGB=>GBR)"},
        },
    },
    {
        "_hue_brg.plf",
        "_hue_brg, whose red, green and blue are the input's blue, red and green",
        "hue(RGB=>BRG)",
        {
            {1031, "Farbton (RGB=>BRG)"},
            {1036, "Teinte (RVB=>BRV)"},
            PL_SPANISH("Matiz (RGB=>BRG)"),
            // 色相 (RGB=>BRG)
            {1041, "\x90\x46\x91\x8A (RGB=>BRG)"},
        },
    },
};
