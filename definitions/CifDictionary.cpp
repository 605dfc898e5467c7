#include "cif/CifDictionary.h"

#include <ostream>

CifDictionary::~CifDictionary() = default;

bool Enumeration::operator==(const Enumeration& other) const {
    return value == other.value && detail == other.detail;
}

bool Example::operator==(const Example& other) const {
    return value == other.value && detail == other.detail;
}

bool Relation::operator==(const Relation& other) const {
    return function == other.function && item == other.item;
}

std::ostream& operator<<(std::ostream& out, const Enumeration& enumeration) {
    return out << "Enumeration=" << enumeration.value << " Detail=" << enumeration.detail;
}

std::ostream& operator<<(std::ostream& out, const Example& example) {
    return out << "Example=" << example.value << " Detail=" << example.detail;
}

std::ostream& operator<<(std::ostream& out, const Relation& relation) {
    return out << "Item=" << relation.item << " Function=" << static_cast<int>(relation.function);
}
