// Symbol visibility for the library: everything is hidden unless marked.
#pragma once

#define CIF_API __attribute__((visibility("default")))
