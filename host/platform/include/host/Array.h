// Array: the crystal model's fixed-size array (three coordinate uncertainties, six tensor
// components).
#pragma once

#include <array>
#include <cstddef>

template <class T, std::size_t N>
using Array = std::array<T, N>;
