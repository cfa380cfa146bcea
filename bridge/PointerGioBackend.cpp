// GLib's headers use "signals" as a member name, which Qt defines as a keyword; they come first.
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

#include "PointerBackends.h"

#include <cstring>

namespace {

// True when GIO settled by itself on one of its own fallback stores (memory, or a key file nothing
// on the desktop reads) because no desktop store is installed. A store named in GSETTINGS_BACKEND
// is whatever the user asked for.
bool fallbackStoreOnly()
{
    if (!qEnvironmentVariableIsEmpty("GSETTINGS_BACKEND"))
        return false;
    GSettingsBackend *backend = g_settings_backend_get_default();
    const char *type = G_OBJECT_TYPE_NAME(backend);
    const bool fallback = std::strcmp(type, "GMemorySettingsBackend") == 0
                          || std::strcmp(type, "GKeyfileSettingsBackend") == 0;
    g_object_unref(backend);
    return fallback;
}

// Writes one key after the checks a settings editor would make; value is consumed.
bool writeKey(GSettings *settings, const char *name, GVariant *value)
{
    g_variant_ref_sink(value);
    bool written = false;
    GSettingsSchema *schema = nullptr;
    g_object_get(settings, "settings-schema", &schema, nullptr);
    if (schema && g_settings_schema_has_key(schema, name)) {
        GSettingsSchemaKey *key = g_settings_schema_get_key(schema, name);
        written = g_variant_is_of_type(value, g_settings_schema_key_get_value_type(key))
                  && g_settings_schema_key_range_check(key, value)
                  && g_settings_is_writable(settings, name)
                  && g_settings_set_value(settings, name, value);
        g_settings_schema_key_unref(key);
    }
    if (schema)
        g_settings_schema_unref(schema);
    g_variant_unref(value);
    if (written)
        g_settings_sync(); // the change must reach the store even if the program ends right after
    return written;
}

} // namespace

double gnomeSpeedForSpeed(quint32 speed)
{
    const double s = double(speed);
    return s <= 10.0 ? (s - 10.0) / 9.0 : (s - 10.0) / 10.0;
}

std::unique_ptr<GioPointerBackend> GioPointerBackend::open(const char *schemaId)
{
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (!source)
        return nullptr;
    // Looked up first: g_settings_new() aborts the process on a schema that is not installed.
    GSettingsSchema *schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (!schema)
        return nullptr;
    std::unique_ptr<GioPointerBackend> backend;
    if (!fallbackStoreOnly())
        backend.reset(new GioPointerBackend(g_settings_new_full(schema, nullptr, nullptr)));
    g_settings_schema_unref(schema);
    return backend;
}

GioPointerBackend::~GioPointerBackend()
{
    g_object_unref(m_settings);
}

bool GioPointerBackend::setCursorSpeed(quint32 speed)
{
    if (speed < kMinCursorSpeed || speed > kMaxCursorSpeed)
        return false;
    return writeKey(m_settings, "speed", g_variant_new_double(gnomeSpeedForSpeed(speed)));
}

bool GioPointerBackend::setDoubleClickTime(quint32 ms)
{
    if (ms > quint32(G_MAXINT32))
        return false;
    return writeKey(m_settings, "double-click", g_variant_new_int32(gint32(ms)));
}

void announceKdeMouseSettingsChanged()
{
    // KDE's change kinds: 3 is "settings changed"; its category 0 is the mouse.
    constexpr gint32 settingsChanged = 3;
    constexpr gint32 mouseCategory = 0;
    GDBusConnection *bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus)
        return;
    g_dbus_connection_emit_signal(bus, nullptr, "/KGlobalSettings", "org.kde.KGlobalSettings",
                                  "notifyChange", g_variant_new("(ii)", settingsChanged, mouseCategory),
                                  nullptr);
    g_dbus_connection_flush_sync(bus, nullptr, nullptr);
    g_object_unref(bus);
}
