#include "sig_names.h"

#include <map>
#include <utility>

#include "sig_names_table.h"
#include "uuid.h"

namespace vornik {

namespace {

using Index = std::map<std::pair<SigKind, std::string>, std::string>;

const Index& TheIndex()
{
    static const Index index = [] {
        Index built;
        for (int i = 0; i < detail::kSigRowCount; ++i) {
            const detail::SigRow& row = detail::kSigRows[i];
            built.emplace(std::make_pair(row.kind, std::string(row.uuid)), row.name);
        }
        return built;
    }();
    return index;
}

}  // namespace

std::string SigName(SigKind kind, const std::string& formattedUuid)
{
    auto found = TheIndex().find({kind, formattedUuid});
    return found == TheIndex().end() ? std::string() : found->second;
}

std::string SigName(SigKind kind, const Uuid& uuid)
{
    return SigName(kind, FormatUuid(uuid));
}

int SigTableSize(SigKind kind)
{
    int count = 0;
    for (int i = 0; i < detail::kSigRowCount; ++i)
        count += detail::kSigRows[i].kind == kind ? 1 : 0;
    return count;
}

}  // namespace vornik
