// RegistryPaths: full-path primitives over the Registry port.
#include "profiles/RegistryPaths.h"

#include "base/LittleEndian.h"
#include "base/Text.h"

namespace kesto {

void RegistryPaths::WriteText(std::string_view path, std::string_view text)
{
    const auto [key, name] = SplitHivePath(path);
    m_registry.SetValue(key, name, RegValue::Text(text));
}

void RegistryPaths::WriteNumber(std::string_view path, std::int32_t n)
{
    const auto [key, name] = SplitHivePath(path);
    m_registry.SetValue(key, name, RegValue::Number(static_cast<std::uint32_t>(n)));
}

std::int32_t RegistryPaths::ReadNumber(std::string_view path)
{
    const auto [key, name] = SplitHivePath(path);
    if (!m_registry.KeyExists(key))
        return 255;
    const auto value = m_registry.QueryValue(key, name);
    if (!value || value->type != RegType::Dword || value->data.size() != 4)
        return 0;
    return static_cast<std::int32_t>(ReadLe32(value->data));
}

std::string RegistryPaths::ReadText(std::string_view path)
{
    const auto [key, name] = SplitHivePath(path);
    const auto value = m_registry.QueryValue(key, name);
    if (!value || value->type != RegType::Sz)
        return {};
    std::string text(value->data.begin(), value->data.end());
    if (const auto nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    return text;
}

void RegistryPaths::DeleteValue(std::string_view path)
{
    const auto [key, name] = SplitHivePath(path);
    m_registry.DeleteValue(key, name);
}

void RegistryPaths::DeleteProfileKey(std::string_view path)
{
    if (path.find('\\') == std::string_view::npos)
        return; // names the hive itself, which is never deleted
    m_registry.DeleteKey(HiveKeyPath(path));
}

} // namespace kesto
