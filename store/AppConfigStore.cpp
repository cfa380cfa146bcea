#include "AppConfigStore.h"

AppConfigStore::AppConfigStore(const QString &modulesDir) : m_modulesDir(modulesDir) {}
AppConfigStore::~AppConfigStore() = default;
ModelFlags AppConfigStore::modelFlags() const { return {}; }
QVariant AppConfigStore::getGlobalData(const QString &) const { return {}; }
void AppConfigStore::setGlobalData(const QString &, const QVariant &) {}
void AppConfigStore::resetApconfig() {}
QString readWindowTitle(const QString &) { return {}; }
