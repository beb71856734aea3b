// The index a report keeps of its objects' names (private to the report
// library's sources).
#pragma once

#include <string>
#include <unordered_map>

class TfrxComponent;

struct TfrxObjectNames {
    // Upper-case name to object: every named descendant of the report once.
    // Two objects share a name only where a layout was put together from
    // parts named alike; look-ups then fall back to walking the layout.
    std::unordered_multimap<std::string, TfrxComponent*> Map;
};
