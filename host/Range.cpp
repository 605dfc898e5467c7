#include "host/Range.h"

bool less_than(double a, double b, double tolerance) {
    return a < b - tolerance;
}
