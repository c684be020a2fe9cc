#pragma once
// The image reader on arbitrary files whose reads may yield fewer bytes than asked: it holds
// one block at a time, its fields are terminated within their size, its answer matches its
// fields, and every field is text the file holds where the field belongs.

#include <cstddef>
#include <cstdint>
#include <string>

// The input: a length byte k and k read sizes (16 bits each; none: whole reads), the file's
// length (24 bits), a filler byte, then pieces of the file: a 16-bit offset, a length byte
// and that many bytes. Returns the broken promises, one a line; empty when all held.
std::string CheckImageReader(const std::uint8_t* data, std::size_t size);
