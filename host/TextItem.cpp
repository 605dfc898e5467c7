#include "host/TextItem.h"

// The finder interface's destructor, out of line so that its virtual table lives here.
InputTextStyleFinder::~InputTextStyleFinder() = default;
