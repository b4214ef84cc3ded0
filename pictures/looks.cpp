#include "looks.h"

namespace pictures {

MountainStyle Dusk(std::uint32_t seed) {
  return {
      .seed = seed,
      .sky = {{0, Hex(0x2B2350)}, {0.45, Hex(0x7A4A7E)}, {0.8, Hex(0xE0826A)}, {1, Hex(0xF7C07A)}},
      .haze = Hex(0xC98A86),
      .near = Hex(0x241A33),
      .sun = {0.7, 0.47},
      .sun_radius = 0.045,
      .sun_colour = Hex(0xFFB46A),
      .glow = 0.5,
      .ranges = 6,
      .horizon = 0.55,
      .lake = false,
      .pines = true,
      .stars = false,
      .clouds = true,
      .cloud_colour = Hex(0x8E5A7E),
      .volcano = false};
}

MountainStyle BlueHour(std::uint32_t seed) {
  return {
      .seed = seed,
      .sky = {{0, Hex(0x0B1433)}, {0.55, Hex(0x2C3E75)}, {0.9, Hex(0x7C83B8)}, {1, Hex(0xE0A8B0)}},
      .haze = Hex(0x6B74A8),
      .near = Hex(0x0E1226),
      .sun = {0.35, 0.75},
      .sun_radius = 0,
      .sun_colour = Hex(0xF2A07B),
      .glow = 0.35,
      .ranges = 5,
      .horizon = 0.6,
      .lake = false,
      .pines = true,
      .stars = true,
      .clouds = false,
      .cloud_colour = {},
      .volcano = false};
}

MountainStyle MistyMorning(std::uint32_t seed) {
  return {.seed = seed,
          .sky = {{0, Hex(0x8FB3C9)}, {0.6, Hex(0xD6E2DF)}, {1, Hex(0xF4EBD0)}},
          .haze = Hex(0xD3DDD6),
          .near = Hex(0x1E3B33),
          .sun = {0.62, 0.32},
          .sun_radius = 0.04,
          .sun_colour = Hex(0xFFF1C4),
          .glow = 0.45,
          .ranges = 7,
          .horizon = 0.45,
          .lake = false,
          .pines = true,
          .stars = false,
          .clouds = false,
          .cloud_colour = {},
          .volcano = false};
}

SeaStyle GoldenSea(std::uint32_t seed) {
  return {.seed = seed,
          .sky = {{0, Hex(0x3B4F8A)}, {0.55, Hex(0xE58A6E)}, {1, Hex(0xFFD08A)}},
          .sea_far = Hex(0x6E5A78),
          .sea_near = Hex(0x1E2544),
          .sun = {0.5, 0.6},
          .sun_radius = 0.05,
          .sun_colour = Hex(0xFFB060),
          .glow = 0.7,
          .horizon = 0.64,
          .clouds = 0.5,
          .cloud_colour = Hex(0x7A5C8A),
          .stars = false,
          .islands = true,
          .island = Hex(0x2A2340)};
}

SeaStyle MoonlitSea(std::uint32_t seed) {
  return {.seed = seed,
          .sky = {{0, Hex(0x030712)}, {0.7, Hex(0x0D1B36)}, {1, Hex(0x23385E)}},
          .sea_far = Hex(0x1B2A47),
          .sea_near = Hex(0x050A16),
          .sun = {0.66, 0.3},
          .sun_radius = 0.035,
          .sun_colour = Hex(0xDCE6FF),
          .glow = 0.45,
          .horizon = 0.66,
          .clouds = 0.3,
          .cloud_colour = Hex(0x2A3556),
          .stars = true,
          .islands = false,
          .island = {}};
}

NightStyle Aurora(std::uint32_t seed, Color low, Color high) {
  return {.seed = seed,
          .sky = {{0, Hex(0x040812)}, {0.7, Hex(0x0A1A2A)}, {1, Hex(0x123040)}},
          .land = Hex(0x03060A),
          .horizon = 0.62,
          .milky_way = false,
          .aurora = true,
          .aurora_low = low,
          .aurora_high = high,
          .lake = true};
}

NightStyle MilkyWay(std::uint32_t seed) {
  return {.seed = seed,
          .sky = {{0, Hex(0x05070F)}, {0.7, Hex(0x0E1830)}, {1, Hex(0x1F2F4F)}},
          .land = Hex(0x05070C),
          .horizon = 0.78,
          .milky_way = true,
          .aurora = false,
          .aurora_low = {},
          .aurora_high = {},
          .lake = false};
}

BlossomStyle Blossom(std::uint32_t seed, bool from_left) {
  return {.seed = seed,
          .sky = {{0, Hex(0x9CC3E6)}, {0.6, Hex(0xE3ECF5)}, {1, Hex(0xF8E1E7)}},
          .bark = Hex(0x3E2C2E),
          .petal = Hex(0xF6B8CB),
          .heart = Hex(0xD94A7A),
          .from_left = from_left};
}

SavannaStyle Savanna(std::uint32_t seed) {
  return {
      .seed = seed,
      .sky = {{0, Hex(0x4A2C5E)}, {0.5, Hex(0xC8504A)}, {0.85, Hex(0xF29A3F)}, {1, Hex(0xFFD27A)}},
      .sun = Hex(0xFFB347),
      .land = Hex(0x1A0F14),
      .sun_x = 0.62,
      .tree_x = 0.3};
}

SavannaStyle SavannaAfterglow(std::uint32_t seed) {
  return {
      .seed = seed,
      .sky = {{0, Hex(0x1B1B4B)}, {0.45, Hex(0x6B3A7A)}, {0.8, Hex(0xE0765A)}, {1, Hex(0xFFC27A)}},
      .sun = Hex(0xFF9A5A),
      .land = Hex(0x120A16),
      .sun_x = 0.3,
      .tree_x = 0.68};
}

SynthwaveStyle Outrun(std::uint32_t seed) {
  return {.seed = seed,
          .sky = {{0, Hex(0x020B24)}, {0.6, Hex(0x0B3C6B)}, {1, Hex(0x17A2B8)}},
          .sun_top = Hex(0xFFF3B0),
          .sun_bottom = Hex(0xFF4F8B),
          .mountains = Hex(0x061A33),
          .grid = Hex(0x3FF3FF)};
}

SynthwaveStyle Synthwave(std::uint32_t seed) {
  return {.seed = seed,
          .sky = {{0, Hex(0x0D0221)}, {0.6, Hex(0x3B0A57)}, {1, Hex(0xC2185B)}},
          .sun_top = Hex(0xFFE66D),
          .sun_bottom = Hex(0xFF2A6D),
          .mountains = Hex(0x1A0633),
          .grid = Hex(0xFF4FD8)};
}

TruchetStyle MeadowTruchet(std::uint32_t seed, double cell) {
  return {.seed = seed,
          .cell = cell,
          .ground = {{0, Hex(0x1E4D3A)}, {1, Hex(0x2F6B4F)}},
          .ground2 = {{0, Hex(0x8FB996)}, {1, Hex(0xD8C99B)}},
          .band = Hex(0xF7F3E3),
          .outline = Hex(0x13261D),
          .shaded = false};
}

TruchetStyle Truchet(std::uint32_t seed, double cell, bool shaded) {
  return {.seed = seed,
          .cell = cell,
          .ground = {{0, Hex(0x12355B)}, {1, Hex(0x3B1F5C)}},
          .ground2 = {{0, Hex(0x1F6E8C)}, {1, Hex(0x8C3B6E)}},
          .band = Hex(0xF2C46D),
          .outline = Hex(0x0B0F1E),
          .shaded = shaded};
}

SeigaihaStyle Seigaiha(std::uint32_t seed, double radius) {
  return {.seed = seed,
          .radius = radius,
          .fans = {Hex(0x1B3A6B), Hex(0x22497F), Hex(0x2D6A8E), Hex(0xC0392B)},
          .lines = Hex(0xF3EBDD)};
}

SeigaihaStyle SakuraSeigaiha(std::uint32_t seed, double radius) {
  return {.seed = seed,
          .radius = radius,
          .fans = {Hex(0xE8A0B4), Hex(0xD97A98), Hex(0xF2C6D2), Hex(0x7A4E7E)},
          .lines = Hex(0xFFF8F2)};
}

StarTilingStyle TerracottaZellige() {
  return {.cell = 0.3,
          .star = Hex(0xB5532F),
          .rosette = Hex(0xF4D35E),
          .strap = Hex(0x2A7F8F),
          .outline = Hex(0x1B1B1B),
          .ground = Hex(0xF7EBD3),
          .accent = Hex(0x2A7F8F)};
}

StarTilingStyle Zellige() {
  return {.cell = 0.25,
          .star = Hex(0x1D3F8C),
          .rosette = Hex(0x2BA3A0),
          .strap = Hex(0xE8C26A),
          .outline = Hex(0x1A1410),
          .ground = Hex(0xF1E6CF),
          .accent = Hex(0xB8472E)};
}

StarTilingStyle EmeraldZellige() {
  return {.cell = 0.2,
          .star = Hex(0x0F5E4A),
          .rosette = Hex(0xF2E6C9),
          .strap = Hex(0xC99A3B),
          .outline = Hex(0x10130F),
          .ground = Hex(0x1C2541),
          .accent = Hex(0x9E2A2B)};
}

MandalaStyle Mandala(std::uint32_t seed, int rings) {
  return {.seed = seed,
          .ground = Hex(0x1A1033),
          .colours = {Hex(0xF2B134), Hex(0xE0533D), Hex(0xB8336A), Hex(0x6A3D9A), Hex(0x2E86AB),
                      Hex(0x3FB8AF)},
          .outline = Hex(0x120A1F),
          .rings = rings};
}

MandalaStyle SeaMandala(std::uint32_t seed, int rings) {
  return {.seed = seed,
          .ground = Hex(0x06283D),
          .colours = {Hex(0xFFF3B0), Hex(0xE09F3E), Hex(0x9E2A2B), Hex(0x335C67), Hex(0x48A9A6),
                      Hex(0xD4B483)},
          .outline = Hex(0x041C2C),
          .rings = rings};
}

}  // namespace pictures
