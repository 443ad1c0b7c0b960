#include "wire/host_requests.h"

#include <optional>

#include "wire/dispatch_table.h"
#include "wire/field_reader.h"

namespace lexiflip::wire {

const HostRequestRule* findHostRequest(std::string_view command)
{
    for (const HostRequestRule& rule : kHostRequests) {
        if (rule.command == command)
            return &rule;
    }
    return nullptr;
}

bool admits(std::string_view entry, int fromSlot)
{
    const std::optional<SplitEntry> split = splitEntry(entry);
    if (!split)
        return false;
    const HostRequestRule* rule = findHostRequest(split->command);
    if (!rule)
        return true;
    if (rule->sender == Sender::hostOnly)
        return fromSlot == 1;
    FieldReader fields(split->payload);
    const std::optional<int> named = fields.nextInt();
    if (!named || *named < kFirstSlot || *named > kLastSlot)
        return false;
    if (*named == fromSlot)
        return true;
    return fromSlot == 1 && rule->sender == Sender::ownSlotOrHostForAnyone;
}

} // namespace lexiflip::wire
