// CommandContext: lazy opening of the store for the kestoctl subcommands.
#include "tools/kestoctl/CommandContext.h"

#include "tools/kestoctl/CommandOutput.h"

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
        std::vector<std::string> notices;
        if (m_registryPath.empty())
            m_registryPath = DefaultRegistryPath(&notices);
        m_registry = std::make_unique<SqliteRegistry>(m_registryPath, access);
        notices.insert(notices.end(), m_registry->notices().begin(), m_registry->notices().end());
        // Said once: the modes are tight from now on.
        for (const std::string& notice : notices)
            err << "kestoctl: " << TerminalSafe(notice) << "\n";
    }
    return *m_registry;
}

} // namespace kesto
