// CommandContext: lazy opening of the store for the kestoctl subcommands.
#include "tools/kestoctl/CommandContext.h"

namespace kesto {

CommandContext::CommandContext(std::string registryPath, std::ostream& outStream,
                               std::ostream& errStream)
    : out(outStream), err(errStream), m_registryPath(std::move(registryPath))
{
}

SqliteRegistry& CommandContext::registry()
{
    if (!m_registry) {
        if (m_registryPath.empty())
            m_registryPath = DefaultRegistryPath();
        m_registry = std::make_unique<SqliteRegistry>(m_registryPath);
    }
    return *m_registry;
}

} // namespace kesto
