#include "support/WithoutFilePrivileges.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

bool capabilities(__user_cap_data_struct (&data)[2], bool set)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0}; // 0: this thread
    return ::syscall(set ? SYS_capset : SYS_capget, &header, data) == 0;
}

} // namespace

WithoutFilePrivileges::WithoutFilePrivileges()
{
    __user_cap_data_struct data[2] = {};
    if (!capabilities(data, false))
        return;
    m_effective[0] = data[0].effective;
    m_effective[1] = data[1].effective;
    constexpr uint32_t overrides =
        (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER);
    if (!(data[0].effective & overrides))
        return;
    data[0].effective &= ~overrides;
    m_changed = capabilities(data, true);
}

WithoutFilePrivileges::~WithoutFilePrivileges()
{
    if (!m_changed)
        return;
    __user_cap_data_struct data[2] = {};
    if (!capabilities(data, false))
        return;
    data[0].effective = m_effective[0];
    data[1].effective = m_effective[1];
    capabilities(data, true);
}
