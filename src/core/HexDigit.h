#pragma once

namespace tarvello {

// The value of one hexadecimal digit, in either letter case, or -1. ASCII
// only: a full-width digit or any other Unicode digit is not one.
constexpr int HexDigitValue(char32_t c) noexcept
{
    if (c >= U'0' && c <= U'9') {
        return int(c - U'0');
    }
    if (c >= U'A' && c <= U'F') {
        return int(c - U'A') + 10;
    }
    if (c >= U'a' && c <= U'f') {
        return int(c - U'a') + 10;
    }
    return -1;
}

} // namespace tarvello
