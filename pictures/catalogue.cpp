#include "catalogue.h"

#include <cstdio>

#include "looks.h"
#include "stained_glass.h"

namespace pictures {
namespace {

// In showing order. The first is small, so the show opens with a picture at its natural size on
// any screen; the second is a wide panorama.
const CataloguedPicture kPictures[] = {
    {1, 800, 600, Format::Jpeg, "mountain ranges at dusk",
     [](Image& i) { PaintMountains(i, Dusk(101)); }},
    {2, 3000, 1000, Format::Jpeg, "snow-capped volcano over a lake at dawn",
     [](Image& i) {
       PaintMountains(i, {.seed = 102,
                          .sky = {{0, Hex(0x3A5BA0)}, {0.6, Hex(0xC9A3C8)}, {1, Hex(0xFAD3B0)}},
                          .haze = Hex(0xB7A5C8),
                          .near = Hex(0x1C2238),
                          .sun = {0.25, 0.6},
                          .sun_radius = 0,
                          .sun_colour = Hex(0xFFC89A),
                          .glow = 0.45,
                          .ranges = 4,
                          .horizon = 0.62,
                          .lake = true,
                          .pines = true,
                          .stars = false,
                          .clouds = true,
                          .cloud_colour = Hex(0xE8B8C0),
                          .volcano = true});
     }},
    {3, 1024, 500, Format::Png, "sunset over the sea with islands",
     [](Image& i) { PaintSeascape(i, GoldenSea(103)); }},
    {4, 1000, 1000, Format::Gif, "mandala of petals",
     [](Image& i) { PaintMandala(i, Mandala(104, 7)); }},
    {5, 2048, 1536, Format::Jpeg, "aurora over a forest lake",
     [](Image& i) { PaintNightSky(i, Aurora(105, Hex(0x3DFF9A), Hex(0x9B4DFF))); }},
    {6, 600, 1200, Format::Png, "cherry blossom branch",
     [](Image& i) { PaintBlossomBranch(i, Blossom(106, true)); }},
    {7, 1920, 1080, Format::Jpeg, "the Milky Way over hills",
     [](Image& i) { PaintNightSky(i, MilkyWay(107)); }},
    {8, 6000, 4000, Format::Jpeg, "mountain lake at first light",
     [](Image& i) {
       PaintMountains(i, {.seed = 108,
                          .sky = {{0, Hex(0x1F3A6B)},
                                  {0.5, Hex(0x7393CC)},
                                  {0.8, Hex(0xF4AE8C)},
                                  {1, Hex(0xFFDCA0)}},
                          .haze = Hex(0xD4A8A8),
                          .near = Hex(0x141A2B),
                          .sun = {0.62, 0.36},
                          .sun_radius = 0.035,
                          .sun_colour = Hex(0xFFC27A),
                          .glow = 0.6,
                          .ranges = 5,
                          .horizon = 0.6,
                          .lake = true,
                          .pines = true,
                          .stars = false,
                          .clouds = true,
                          .cloud_colour = Hex(0xC7A3B6),
                          .volcano = false});
     }},
    {9, 1250, 1000, Format::Bmp, "stained glass: sunset over hills",
     [](Image& i) {
       PaintStainedGlass(i, {.seed = 109, .pane = 0.06, .design = GlassDesign::Sunset});
     }},
    {10, 2048, 1024, Format::Gif, "Truchet tiles of woven bands",
     [](Image& i) { PaintTruchet(i, Truchet(110, 0.1, false)); }},
    {11, 640, 480, Format::Gif, "pixel-art mountains at sunset",
     [](Image& i) {
       PaintAsPixelArt(i, 4, 24, [](Image& small) {
         MountainStyle style = Dusk(111);
         style.sun = {0.3, 0.3};
         style.sun_radius = 0.08;
         PaintMountains(small, style);
       });
     }},
    {12, 1366, 768, Format::Png, "bokeh of warm lights",
     [](Image& i) {
       PaintBokeh(i, {.seed = 112,
                      .ground = {{0, Hex(0x0B1026)}, {0.5, Hex(0x2A1438)}, {1, Hex(0x120A18)}},
                      .lights = {Hex(0xFFB347), Hex(0xFF7A59), Hex(0xFFD27F), Hex(0xE85D9A),
                                 Hex(0x7FB2FF)},
                      .count = 110,
                      .hexagonal = false});
     }},
    {13, 1600, 1600, Format::Jpeg, "Julia set in ink and amber",
     [](Image& i) {
       PaintJulia(i,
                  {.centre_re = 0,
                   .centre_im = 0,
                   .span = 2.6,
                   .iterations = 250,
                   .palette = kInk,
                   .density = 0.9,
                   .inside = Hex(0x100818)},
                  -0.7269, 0.1889);
     }},
    {14, 1080, 1920, Format::Jpeg, "misty forested ridges",
     [](Image& i) { PaintMountains(i, MistyMorning(114)); }},
    {15, 3840, 2160, Format::Jpeg, "golden sea at sunset",
     [](Image& i) {
       SeaStyle style = GoldenSea(115);
       style.sun = {0.4, 0.58};
       PaintSeascape(i, style);
     }},
    {16, 1024, 768, Format::Bmp, "eight-pointed star tiling",
     [](Image& i) { PaintStarTiling(i, Zellige()); }},
    {17, 2560, 1440, Format::Tiff, "seigaiha waves",
     [](Image& i) { PaintSeigaiha(i, Seigaiha(117, 0.07)); }},
    {18, 1920, 800, Format::Png, "ribbons of light",
     [](Image& i) {
       PaintRibbons(i, {.seed = 118,
                        .ground = {{0, Hex(0x05060F)}, {1, Hex(0x10142A)}},
                        .colours = {{0, Hex(0x2EC5FF)}, {0.5, Hex(0xB04DFF)}, {1, Hex(0xFF6A3D)}},
                        .strands = 60});
     }},
    {19, 1366, 600, Format::Jpeg, "mountains in the blue hour",
     [](Image& i) { PaintMountains(i, BlueHour(119)); }},
    {20, 2560, 1000, Format::Jpeg, "lone tree on the savanna at sunset",
     [](Image& i) { PaintSavannaTree(i, Savanna(120)); }},
    {21, 1000, 768, Format::Png, "Newton basins of z cubed",
     [](Image& i) {
       PaintNewton(i, {.centre_re = -0.42,
                       .centre_im = 0.05,
                       .span = 0.7,
                       .iterations = 60,
                       .palette = kNewton,
                       .density = 0.12,
                       .inside = Hex(0x000000)});
     }},
    {22, 1200, 768, Format::Gif, "seigaiha waves, large",
     [](Image& i) { PaintSeigaiha(i, SakuraSeigaiha(122, 0.12)); }},
    {23, 1440, 1080, Format::Jpeg, "Mandelbrot set: seahorse valley",
     [](Image& i) {
       PaintMandelbrot(i, {.centre_re = -0.743643887037151,
                           .centre_im = 0.13182590420533,
                           .span = 0.0025,
                           .iterations = 1500,
                           .palette = kOceanGold,
                           .density = 1.2,
                           .inside = Hex(0x000000)});
     }},
    {24, 2000, 1440, Format::Tiff, "emerald star tiling",
     [](Image& i) { PaintStarTiling(i, EmeraldZellige()); }},
    {25, 1280, 720, Format::PalettePng, "pixel-art volcano over a lake",
     [](Image& i) {
       PaintAsPixelArt(i, 4, 32, [](Image& small) {
         MountainStyle style = BlueHour(125);
         style.lake = true;
         style.volcano = true;
         style.ranges = 3;
         style.sun = {0.75, 0.65};
         PaintMountains(small, style);
       });
     }},
    {26, 2732, 1536, Format::Jpeg, "moonlit sea",
     [](Image& i) { PaintSeascape(i, MoonlitSea(126)); }},
    {27, 1600, 1200, Format::PaletteBmp, "Truchet tiles as tubes",
     [](Image& i) { PaintTruchet(i, Truchet(127, 0.12, true)); }},
    {28, 4000, 3000, Format::Jpeg, "misty ranges at sunrise",
     [](Image& i) {
       MountainStyle style = MistyMorning(128);
       style.sun = {0.3, 0.3};
       PaintMountains(i, style);
     }},
    {29, 1920, 1200, Format::Jpeg, "pink dusk over the sea",
     [](Image& i) {
       PaintSeascape(i, {.seed = 129,
                         .sky = {{0, Hex(0x2D2A5A)}, {0.6, Hex(0xB86B9E)}, {1, Hex(0xF6B7A8)}},
                         .sea_far = Hex(0x8A6A9A),
                         .sea_near = Hex(0x241E40),
                         .sun = {0.62, 0.72},
                         .sun_radius = 0,
                         .sun_colour = Hex(0xFFB6A0),
                         .glow = 0.6,
                         .horizon = 0.62,
                         .clouds = 0.7,
                         .cloud_colour = Hex(0x6E4A7E),
                         .stars = false,
                         .islands = false,
                         .island = {}});
     }},
    {30, 2560, 1600, Format::ProgressiveJpeg, "kaleidoscope of coloured glass",
     [](Image& i) { PaintKaleidoscope(i, {.seed = 130, .folds = 6, .palette = kJewels}); }},
    {31, 3440, 1440, Format::Jpeg, "panorama of ranges at dusk",
     [](Image& i) {
       MountainStyle style = Dusk(131);
       style.sun = {0.4, 0.45};
       PaintMountains(i, style);
     }},
    {32, 900, 1600, Format::ProgressiveJpeg, "cherry blossom from the right",
     [](Image& i) { PaintBlossomBranch(i, Blossom(132, false)); }},
    {33, 1200, 900, Format::Jpeg, "Mandelbrot set: elephant valley",
     [](Image& i) {
       PaintMandelbrot(i, {.centre_re = 0.2855,
                           .centre_im = 0.0112,
                           .span = 0.012,
                           .iterations = 800,
                           .palette = kEmber,
                           .density = 1.1,
                           .inside = Hex(0x000000)});
     }},
    {34, 320, 240, Format::Gif, "pixel-art sea at sunset",
     [](Image& i) {
       PaintAsPixelArt(i, 2, 20, [](Image& small) { PaintSeascape(small, GoldenSea(134)); });
     }},
    {35, 1680, 1050, Format::Tiff, "mandala in sea colours",
     [](Image& i) { PaintMandala(i, SeaMandala(135, 8)); }},
    {36, 2400, 1600, Format::Jpeg, "savanna tree, evening",
     [](Image& i) { PaintSavannaTree(i, SavannaAfterglow(136)); }},
    {37, 800, 800, Format::Gif, "neon sunset over a grid",
     [](Image& i) { PaintSynthwave(i, Synthwave(137)); }},
    {38, 1024, 1024, Format::Png, "kaleidoscope, twelve mirrors",
     [](Image& i) { PaintKaleidoscope(i, {.seed = 138, .folds = 12, .palette = kLagoon}); }},
    {39, 3000, 2000, Format::Jpeg, "the Milky Way, wide",
     [](Image& i) { PaintNightSky(i, MilkyWay(139)); }},
    {40, 1500, 500, Format::Jpeg, "forest in the morning mist",
     [](Image& i) { PaintMountains(i, MistyMorning(140)); }},
    {41, 720, 1280, Format::Gif, "Truchet tiles, tall",
     [](Image& i) { PaintTruchet(i, MeadowTruchet(141, 0.07)); }},
    {42, 2048, 2048, Format::Jpeg, "great mandala",
     [](Image& i) { PaintMandala(i, Mandala(142, 9)); }},
    {43, 2880, 1800, Format::Jpeg, "stained glass: autumn leaves",
     [](Image& i) {
       PaintStainedGlass(i, {.seed = 143, .pane = 0.07, .design = GlassDesign::Autumn});
     }},
    {44, 1152, 864, Format::PaletteBmp, "star tiling in terracotta and teal",
     [](Image& i) { PaintStarTiling(i, TerracottaZellige()); }},
    {45, 960, 540, Format::Bmp, "Julia set in teal",
     [](Image& i) {
       PaintJulia(i,
                  {.centre_re = 0,
                   .centre_im = 0,
                   .span = 1.5,
                   .iterations = 400,
                   .palette = kTeal,
                   .density = 1.0,
                   .inside = Hex(0x081820)},
                  0.285, 0.01);
     }},
    {46, 1280, 1024, Format::Jpeg, "stained glass rose window",
     [](Image& i) {
       PaintStainedGlass(i, {.seed = 146, .pane = 0.045, .design = GlassDesign::Rose});
     }},
    {47, 768, 1024, Format::Gif, "mandala, portrait",
     [](Image& i) { PaintMandala(i, SeaMandala(147, 6)); }},
    {48, 2200, 1100, Format::ProgressiveJpeg, "violet aurora",
     [](Image& i) { PaintNightSky(i, Aurora(148, Hex(0x7CFFB2), Hex(0xE040FB))); }},
    {49, 1600, 900, Format::Gif, "neon sunset in teal",
     [](Image& i) { PaintSynthwave(i, Outrun(149)); }},
    {50, 4096, 2160, Format::Jpeg, "moonlit sea, wide",
     [](Image& i) { PaintSeascape(i, MoonlitSea(150)); }},
};

}  // namespace

std::span<const CataloguedPicture> Catalogue() { return kPictures; }

std::string FileName(int number) {
  char name[16];
  std::snprintf(name, sizeof name, "QMAR52%02d.DAT", number);
  return name;
}

}  // namespace pictures
