// CommandContext: lazy opening of the store for the kestoctl subcommands.
#include "tools/kestoctl/CommandContext.h"

namespace kesto {

CommandContext::CommandContext(std::string registryPath, std::ostream& outStream,
                               std::ostream& errStream)
    : out(outStream), err(errStream), m_registryPath(std::move(registryPath))
{
}

SqliteRegistry& CommandContext::registry(StoreAccess access)
{
    if (m_registry && access == StoreAccess::ReadWrite && m_access == StoreAccess::ReadOnly)
        m_registry.reset();
    if (!m_registry) {
        m_access = access;
        if (m_registryPath.empty())
            m_registryPath = DefaultRegistryPath();
        m_registry = std::make_unique<SqliteRegistry>(m_registryPath, access);
    }
    return *m_registry;
}

} // namespace kesto
