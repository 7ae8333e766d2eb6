// tiny_module.h — a small playable module and little-endian writers for test files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// A playable Impulse Tracker module: `orders` orders, each the same 64-row
// pattern starting a looped square-wave note, at the given speed and tempo.
std::vector<uint8_t> MakeTinyModule(int orders, int speed, int tempo);

void Put16(std::vector<uint8_t>& v, std::size_t at, uint32_t x);
void Put32(std::vector<uint8_t>& v, std::size_t at, uint32_t x);
