// SHA-256 of a byte span: the fingerprint that names a survey in the archive, so that the same log
// image read twice is recognised as one survey.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace klxr::archive {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::span<const std::uint8_t> bytes);

// The digest as 64 lowercase hexadecimal digits.
std::string Sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace klxr::archive
