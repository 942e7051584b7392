#include "LuaSide.h"

#include <lua.hpp>

#include <charconv>
#include <stdexcept>
#include <unordered_map>

namespace {

const char* const kObjectMeta = "dax.object";

struct ObjectBox {
    ScriptObject* Object;
    const RegisteredClass* Class;
    // Names already looked up, so that an access costs a hash lookup as a Lua field does.
    std::unordered_map<std::string, const PropertyInfo*>* Names;
};

const PropertyInfo* PropertyOf(ObjectBox& box, const char* name, size_t length)
{
    const std::string key(name, length);
    const auto found = box.Names->find(key);
    if (found != box.Names->end())
        return found->second;
    const PropertyInfo* property = box.Class->Find(QString::fromUtf8(name, static_cast<qsizetype>(length)));
    box.Names->emplace(key, property);
    return property;
}

ObjectBox& BoxAt(lua_State* L)
{
    return *static_cast<ObjectBox*>(luaL_checkudata(L, 1, kObjectMeta));
}

void PushVariant(lua_State* L, const Variant& value)
{
    switch (value.Kind()) {
    case VariantKind::Int32:
        lua_pushinteger(L, value.AsInt32());
        break;
    case VariantKind::Int64:
        lua_pushinteger(L, value.AsInt64());
        break;
    case VariantKind::Double:
    case VariantKind::DateTime:
        lua_pushnumber(L, value.AsDouble());
        break;
    case VariantKind::Boolean:
        lua_pushboolean(L, value.AsBoolean());
        break;
    case VariantKind::String:
        lua_pushstring(L, value.AsString().toUtf8().constData());
        break;
    default:
        lua_pushnil(L);
        break;
    }
}

Variant ToVariant(lua_State* L, int index)
{
    switch (lua_type(L, index)) {
    case LUA_TNUMBER:
        if (lua_isinteger(L, index)) {
            const lua_Integer i = lua_tointeger(L, index);
            if (i >= INT32_MIN && i <= INT32_MAX)
                return Variant(static_cast<int32_t>(i));
            return Variant(static_cast<int64_t>(i));
        }
        return Variant(lua_tonumber(L, index));
    case LUA_TBOOLEAN:
        return Variant(lua_toboolean(L, index) != 0);
    case LUA_TSTRING:
        return Variant(QString::fromUtf8(lua_tostring(L, index)));
    default:
        return Variant::NullValue();
    }
}

// obj.Name: the registry's getter.
int Index(lua_State* L)
{
    ObjectBox& box = BoxAt(L);
    size_t length = 0;
    const char* name = luaL_checklstring(L, 2, &length);
    const PropertyInfo* property = PropertyOf(box, name, length);
    if (property == nullptr || !property->Get)
        return luaL_error(L, "no property %s", name);
    PushVariant(L, property->Get(*box.Object));
    return 1;
}

// obj.Name = value: the registry's setter, with the value in the property's form.
int NewIndex(lua_State* L)
{
    ObjectBox& box = BoxAt(L);
    size_t length = 0;
    const char* name = luaL_checklstring(L, 2, &length);
    const PropertyInfo* property = PropertyOf(box, name, length);
    if (property == nullptr || !property->Set)
        return luaL_error(L, "no writable property %s", name);
    property->Set(*box.Object, property->Canonical(ToVariant(L, 3)));
    return 0;
}

} // namespace

LuaSide::LuaSide() : state_(luaL_newstate())
{
    luaL_openlibs(state_);
}

LuaSide::~LuaSide()
{
    lua_close(state_);
}

void LuaSide::Prepare(const std::string& chunk)
{
    if (luaL_loadstring(state_, chunk.c_str()) != LUA_OK || lua_pcall(state_, 0, 0, 0) != LUA_OK) {
        const std::string message = lua_tostring(state_, -1);
        lua_pop(state_, 1);
        throw std::runtime_error(message);
    }
}

std::string LuaSide::Run()
{
    lua_getglobal(state_, "run");
    if (lua_pcall(state_, 0, 1, 0) != LUA_OK) {
        const std::string message = lua_tostring(state_, -1);
        lua_pop(state_, 1);
        throw std::runtime_error(message);
    }
    std::string text;
    if (lua_isinteger(state_, -1)) {
        text = std::to_string(lua_tointeger(state_, -1));
    } else if (lua_type(state_, -1) == LUA_TNUMBER) {
        char buffer[64];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, lua_tonumber(state_, -1));
        text.assign(buffer, r.ptr);
    } else if (lua_type(state_, -1) == LUA_TSTRING) {
        text = lua_tostring(state_, -1);
    } else {
        text = luaL_typename(state_, -1);
    }
    lua_pop(state_, 1);
    return text;
}

void LuaSide::ExposeObject(ScriptObject& object, const RegisteredClass& cls)
{
    auto* box = static_cast<ObjectBox*>(lua_newuserdatauv(state_, sizeof(ObjectBox), 0));
    box->Object = &object;
    box->Class = &cls;
    box->Names = &names_;
    if (luaL_newmetatable(state_, kObjectMeta)) {
        lua_pushcfunction(state_, Index);
        lua_setfield(state_, -2, "__index");
        lua_pushcfunction(state_, NewIndex);
        lua_setfield(state_, -2, "__newindex");
    }
    lua_setmetatable(state_, -2);
    lua_setglobal(state_, "obj");
}
