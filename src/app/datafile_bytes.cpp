// Bounded big- and little-endian reads over a datafile's bytes.
#include "app/datafile_bytes.h"

bool ByteReader::get8(int& value)
{
    if (left < 1)
        return false;
    value = at[0];
    return skip(1);
}

bool ByteReader::get16(int& value)
{
    if (left < 2)
        return false;
    value = (int(at[0]) << 8) | int(at[1]);
    return skip(2);
}

bool ByteReader::get32(int32_t& value)
{
    if (left < 4)
        return false;
    value = int32_t((uint32_t(at[0]) << 24) | (uint32_t(at[1]) << 16) | (uint32_t(at[2]) << 8) |
                    uint32_t(at[3]));
    return skip(4);
}

bool ByteReader::get16_intel(int& value)
{
    if (left < 2)
        return false;
    value = int(at[0]) | (int(at[1]) << 8);
    return skip(2);
}

bool ByteReader::get32_intel(int32_t& value)
{
    if (left < 4)
        return false;
    value = int32_t(uint32_t(at[0]) | (uint32_t(at[1]) << 8) | (uint32_t(at[2]) << 16) |
                    (uint32_t(at[3]) << 24));
    return skip(4);
}

bool ByteReader::skip(size_t count)
{
    if (count > left)
        return false;
    at += count;
    left -= count;
    return true;
}
