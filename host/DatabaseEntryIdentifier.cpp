#include "host/DatabaseEntryIdentifier.h"

#include <ostream>

std::ostream& operator<<(std::ostream& out, const DatabaseEntryIdentifier& id) {
    return out << id.str();
}
