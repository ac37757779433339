// The system icons of one group of the built-in table: each row's registry value names the icon in
// use; a missing value is created with the row's default, as Windows would read it.

#include "sources/WindowsSources.h"

#include "core/AppContext.h"
#include "core/MainSession.h"
#include "formats/Cp1252.h"
#include "platform/Registry.h"
#include "sources/SystemIconTable.h"

namespace glyphary::sources {
namespace {

using namespace platform;

class SystemIconSource : public IconSource {
public:
    explicit SystemIconSource(WindowsListing& listing) : listing_(listing) {}

    void list(const SourceRequest& request) override
    {
        listing_.begin(QString());
        MainSession& session = listing_.session();
        ItemList& rows = session.lstChange;
        rows.clear();
        const auto group = static_cast<SystemIconGroup>(request.number);
        for (const QString& row : systemIconRows(group, systemIconVariant(session.context().OsCode)))
            rows.add(row);
        // The values a group creates are saved together.
        RegistryBatch batch(session.context().platform.registry());
        for (const ItemList::Entry& entry : rows.entries()) {
            const SystemIconRow row = splitSystemIconRow(entry.text);
            const IconLocation location = splitIconLocation(valueOf(row));
            listing_.add({listing_.registry().expand(location.file), location.index, row.name}, u'w', QLatin1String("sysy"));
        }
        listing_.finish();
    }

private:
    QString valueOf(const SystemIconRow& row)
    {
        const HKEY root = rootKeyNamed(row.rootName);
        if (root == 0)
            return row.defaultIcon;
        if (const auto value = listing_.registry().read(root, row.keyPath, row.valueName))
            return value->isEmpty() ? row.defaultIcon : *value;
        // Only a value that is not there is created: one of another type is left as it is.
        Registry& registry = listing_.session().context().platform.registry();
        const std::string keyPath = formats::toCp1252(row.keyPath);
        const std::string valueName = formats::toCp1252(row.valueName);
        if (!registry.valueExists(root, keyPath, valueName))
            registry.setValue(root, keyPath, valueName, REG_SZ, regString(formats::toCp1252(row.defaultIcon)));
        return row.defaultIcon;
    }

    WindowsListing& listing_;
};

} // namespace

std::unique_ptr<IconSource> makeSystemIconSource(WindowsListing& listing)
{
    return std::make_unique<SystemIconSource>(listing);
}

} // namespace glyphary::sources
