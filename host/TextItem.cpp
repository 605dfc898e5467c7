#include "host/TextItem.h"

// The interfaces' destructors, out of line so that their virtual tables live here.
InputTextStyleFinder::~InputTextStyleFinder() = default;
RichTextGenerator::~RichTextGenerator() = default;
