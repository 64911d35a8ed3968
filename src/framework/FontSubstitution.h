// Windows font families the program names, mapped to installed families:
//   "ＭＳ Ｐゴシック" -> IPAPGothic, "ＭＳ Ｐ明朝" -> IPAPMincho,
//   "HGS行書体" -> AoyagiKouzanFontT (fonts-aoyagi-kouzan-t), else the most
//                 brush-like installed Japanese family (IPAPMincho if none),
//   "Tahoma", "MS Sans Serif" -> DejaVu Sans.
#pragma once

#include <string>

// Registers the substitutions with Qt (QFont::insertSubstitution). Needs the
// application object; may be called again (the brush-like family is looked up anew).
void InstallFontSubstitutions();

// Installs the substitutions once, when an application object exists; called by
// the framework before it builds a font.
void EnsureFontSubstitutions();

// The family chosen for the Windows brush-script family "HGS行書体".
std::string BrushScriptFamily();
