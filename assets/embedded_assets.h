#pragma once
// The files compiled into the executable: the font strip and the four sound definitions.

class EmbeddedFiles;

// Registers "font.png", "assets\laser02.wkt", "assets\pop01.wkt", "assets\collect01.wkt"
// and "assets\drain.wkt", in this order.
void register_embedded_assets(EmbeddedFiles& files);
