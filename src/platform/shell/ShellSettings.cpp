#include "ShellSettings.h"

#include <gio/gio.h>

#include <memory>

namespace {

struct SchemaUnref {
    void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
};
struct KeyUnref {
    void operator()(GSettingsSchemaKey* key) const { g_settings_schema_key_unref(key); }
};
struct ObjectUnref {
    void operator()(gpointer object) const { g_object_unref(object); }
};

constexpr const char* kFileChooserSchema = "org.gtk.Settings.FileChooser";
constexpr const char* kShowHiddenKey = "show-hidden";

// GSettings aborts the program for a schema that is not installed, a key the
// schema lacks or a value of another type, so each is checked first; any
// doubt means "do not show".
bool desktopShowsHidden()
{
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();  // not ours to free
    if (!source)
        return false;
    std::unique_ptr<GSettingsSchema, SchemaUnref> schema(g_settings_schema_source_lookup(source, kFileChooserSchema, TRUE));
    if (!schema || !g_settings_schema_get_path(schema.get()) || !g_settings_schema_has_key(schema.get(), kShowHiddenKey))
        return false;
    std::unique_ptr<GSettingsSchemaKey, KeyUnref> key(g_settings_schema_get_key(schema.get(), kShowHiddenKey));
    if (!key || !g_variant_type_equal(g_settings_schema_key_get_value_type(key.get()), G_VARIANT_TYPE_BOOLEAN))
        return false;
    std::unique_ptr<GSettings, ObjectUnref> settings(g_settings_new_full(schema.get(), nullptr, nullptr));
    return settings && g_settings_get_boolean(settings.get(), kShowHiddenKey);
}

}  // namespace

void SHGetSettings(SHELLFLAGSTATE* state, DWORD mask)
{
    if (!state)
        return;
    if (mask & (SSF_SHOWALLOBJECTS | SSF_SHOWSYSFILES)) {
        const UINT shown = desktopShowsHidden() ? 1 : 0;
        if (mask & SSF_SHOWALLOBJECTS)
            state->fShowAllObjects = shown;
        if (mask & SSF_SHOWSYSFILES)
            state->fShowSysFiles = shown;
    }
    if (mask & SSF_SHOWEXTENSIONS)
        state->fShowExtensions = 1;
}
