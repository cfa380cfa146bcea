#include "art.h"
namespace art {
void addLighting(Catalogue &) {}
}
