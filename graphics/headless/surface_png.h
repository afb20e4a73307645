#pragma once

#include <cstdint>
#include <string>
#include <vector>

class RAST_IBitmap;

// Writes a bitmap as an 8-bit RGBA PNG file so anyone can look at what the editor drew. With
// `opaque` the alpha channel is written as 255 everywhere (what a screen shows). False when the
// bitmap is empty or the file cannot be written.
bool WriteBitmapPng(const RAST_IBitmap* bitmap, const std::string& path, bool opaque = true);

// The same PNG in memory, for a caller that writes the file its own way. False when the bitmap is
// empty or cannot be encoded.
bool EncodeBitmapPng(const RAST_IBitmap* bitmap, std::vector<std::uint8_t>& png, bool opaque = true);
