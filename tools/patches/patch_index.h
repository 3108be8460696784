// Rewriting TiMidity's instrument index in the numbering the library's patch tools read.
#pragma once

#include <string>

// The library's DIGMID driver and pat2dat read a Gravis-style index: instruments
// numbered 1-128 (program + 1), and percussion as note-numbered lines in a
// "129-256 begin_multipatch" block. TiMidity's index (freepats.cfg) numbers programs
// from 0 and lists percussion after "drumset 0". Read as it is, every tune plays the
// next program's instrument and no drums at all.
//
// Keeps bank 0 and drumset 0 (entries before any section belong to bank 0), drops
// "dir" lines, per-instrument options and comments; a later entry for the same number
// replaces an earlier one.
std::string gus_index_from_timidity(const std::string& timidity_index);
