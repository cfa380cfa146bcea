#include "art.h"
namespace art {
void addMacros(Catalogue &) {}
}
