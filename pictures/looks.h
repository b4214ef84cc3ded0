#pragma once
// Named looks for the scenes: the colour schemes and compositions the catalogue draws on. Some
// serve several pictures, told apart by their seeds.
#include <cstdint>

#include "color.h"
#include "fractals.h"
#include "landscapes.h"
#include "lights.h"
#include "mandalas.h"
#include "night_skies.h"
#include "retro.h"
#include "seascapes.h"
#include "tilings.h"
#include "trees.h"

namespace pictures {

MountainStyle Dusk(std::uint32_t seed);
MountainStyle BlueHour(std::uint32_t seed);
MountainStyle MistyMorning(std::uint32_t seed);
SeaStyle GoldenSea(std::uint32_t seed);
SeaStyle MoonlitSea(std::uint32_t seed);
NightStyle Aurora(std::uint32_t seed, Color low, Color high);
NightStyle MilkyWay(std::uint32_t seed);
BlossomStyle Blossom(std::uint32_t seed, bool from_left);
SavannaStyle Savanna(std::uint32_t seed);
SavannaStyle SavannaAfterglow(std::uint32_t seed);
SynthwaveStyle Outrun(std::uint32_t seed);
SynthwaveStyle Synthwave(std::uint32_t seed);
TruchetStyle MeadowTruchet(std::uint32_t seed, double cell);
TruchetStyle Truchet(std::uint32_t seed, double cell, bool shaded);
SeigaihaStyle Seigaiha(std::uint32_t seed, double radius);
SeigaihaStyle SakuraSeigaiha(std::uint32_t seed, double radius);
StarTilingStyle TerracottaZellige();
StarTilingStyle Zellige();
StarTilingStyle EmeraldZellige();
MandalaStyle Mandala(std::uint32_t seed, int rings);
MandalaStyle SeaMandala(std::uint32_t seed, int rings);

inline constexpr CosinePalette kOceanGold{
    {0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1, 1, 1}, {0, 0.1, 0.2}};
inline constexpr CosinePalette kInk{{0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {1, 1, 1}, {0.0, 0.15, 0.25}};
inline constexpr CosinePalette kEmber{
    {0.55, 0.4, 0.3}, {0.45, 0.4, 0.35}, {1, 1, 1}, {0.0, 0.1, 0.2}};
inline constexpr CosinePalette kLagoon{
    {0.5, 0.5, 0.5}, {0.5, 0.5, 0.5}, {2, 1, 0}, {0.5, 0.2, 0.25}};
inline constexpr CosinePalette kTeal{
    {0.4, 0.5, 0.55}, {0.4, 0.4, 0.4}, {1, 1, 1}, {0.55, 0.6, 0.65}};
inline constexpr CosinePalette kJewels{
    {0.6, 0.55, 0.6}, {0.4, 0.4, 0.4}, {1, 1, 1}, {0, 0.33, 0.67}};
inline constexpr CosinePalette kNewton{
    {0.55, 0.5, 0.5}, {0.45, 0.45, 0.45}, {1, 1, 1}, {0.1, 0.4, 0.7}};

}  // namespace pictures
