#include "art.h"
namespace art {
void addGuns(Catalogue &) {}
}
