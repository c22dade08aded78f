#include "node/poll_plan.h"

namespace korvane {

std::vector<NodeCall> PollPlan::poll(double now, bool synced) const
{
    const bool eased = !synced || m_lastChainInfoTook > kSlowCall;
    // A poll lands a little early or late; half a period of slack keeps the cadence steady.
    const double period = eased ? kChainInfoPeriod : kPollPeriod;
    const bool chainInfoDue = !m_lastChainInfo || now - *m_lastChainInfo >= period - kPollPeriod / 2;
    return { chainInfoDue ? NodeCall::ChainInfo : NodeCall::BlockCount, NodeCall::NetworkInfo, NodeCall::Uptime };
}

void PollPlan::chainInfoAnswered(double now, double took)
{
    m_lastChainInfo = now;
    m_lastChainInfoTook = took;
}

} // namespace korvane
