// setup/pack/logo.cpp - setup_logo <LOGO.JPG> <output .cpp> [<output .bmp>]
//
// The installer carries its own picture: the game's title on black, 128 x 256, 24 bit. It is
// put together at build time from the game's logo - the sun over the dunes, the name, the
// number - stacked for the tall format, and written as a byte table the installer links in.
#include "platform/image.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr int LogoWidth = 128, LogoHeight = 256;

// A part of the source picture and where it lands in the installer's picture.
struct Piece {
    int sx, sy, sw, sh; // source rectangle
    int dx, dy, dw, dh; // target rectangle
};
const Piece Pieces[] = {
    {86, 20, 340, 232, 0, 48, 128, 87},    // the sun setting behind the dunes
    {0, 262, 512, 124, 0, 144, 128, 31},   // "KORAX"
    {60, 374, 392, 90, 12, 182, 104, 24},  // "3050" between its two lines
};

constexpr int FadeWidth = 10; // pixels over which a piece's cut edges fade into the black

// 0..256: how far a pixel of a piece lies from the piece's nearest edge, as a fade weight.
int EdgeWeight(const Piece& piece, int x, int y)
{
    int edge = std::min(std::min(x, piece.dw - 1 - x), std::min(y, piece.dh - 1 - y));
    return edge >= FadeWidth ? 256 : (edge * 256 + 128) / FadeWidth;
}

// Each target pixel is the mean of 4 x 4 samples spread over its area of the source, faded
// towards the piece's edges so that no cut shows.
void DrawPiece(const Image& source, const Piece& piece, Image& target)
{
    for (int y = 0; y < piece.dh; y++) {
        for (int x = 0; x < piece.dw; x++) {
            int r = 0, g = 0, b = 0;
            for (int j = 0; j < 4; j++) {
                for (int i = 0; i < 4; i++) {
                    int u = piece.sx + ((x * 4 + i) * piece.sw + piece.sw / 2) / (piece.dw * 4);
                    int v = piece.sy + ((y * 4 + j) * piece.sh + piece.sh / 2) / (piece.dh * 4);
                    if (u < 0 || v < 0 || u >= source.width || v >= source.height) continue;
                    uint32_t c = source.pixels[size_t(v) * size_t(source.width) + size_t(u)];
                    r += ColourRed(c);
                    g += ColourGreen(c);
                    b += ColourBlue(c);
                }
            }
            int tx = piece.dx + x, ty = piece.dy + y;
            if (tx < 0 || ty < 0 || tx >= target.width || ty >= target.height) continue;
            int weight = EdgeWeight(piece, x, y);
            target.pixels[size_t(ty) * size_t(target.width) + size_t(tx)] =
                PackColour(r * weight / (16 * 256), g * weight / (16 * 256), b * weight / (16 * 256));
        }
    }
}

int ReadBytes(const char* path, std::string& bytes)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    bytes = content.str();
    return bool(in);
}

std::string ByteTable(const std::string& bmp)
{
    std::string out = "// Made at build time by setup_logo from the game's logo; build output, not edited.\n"
                      "#include \"setup/logo.h\"\n\nconst unsigned char SetupLogo[] = {";
    for (size_t i = 0; i < bmp.size(); i++) {
        if (i % 24 == 0) out += "\n    ";
        out += std::to_string(unsigned((unsigned char)bmp[i])) + ",";
    }
    out += "\n};\nconst unsigned long SetupLogoSize = sizeof SetupLogo;\n";
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: setup_logo <LOGO.JPG> <output .cpp> [<output .bmp>]\n");
        return 2;
    }
    std::string jpeg;
    Image source, logo;
    if (!ReadBytes(argv[1], jpeg) || !DecodeImage((const uint8_t*)jpeg.data(), jpeg.size(), source)) {
        std::fprintf(stderr, "setup_logo: cannot read the logo %s\n", argv[1]);
        return 1;
    }
    MakeImage(logo, LogoWidth, LogoHeight, PackColour(0, 0, 0));
    for (const Piece& piece : Pieces) DrawPiece(source, piece, logo);
    std::string bmp = EncodeBmp24(logo);
    std::ofstream(argv[2], std::ios::binary) << ByteTable(bmp);
    if (argc > 3) std::ofstream(argv[3], std::ios::binary) << bmp;
    return 0;
}
