#include "ProfileStore.h"

ProfileStore::ProfileStore(const QString &modulesDir) : m_modulesDir(modulesDir) {}
ProfileStore::~ProfileStore() = default;
