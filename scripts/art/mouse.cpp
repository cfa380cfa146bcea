#include "art.h"
namespace art {
void addMouse(Catalogue &) {}
}
