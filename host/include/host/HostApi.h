// Symbol visibility for the host layer: everything is hidden unless marked.
#pragma once

#define HOST_API __attribute__((visibility("default")))
