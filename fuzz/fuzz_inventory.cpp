// The vulnerability category file and the inventory file: an inventory
// written and read back against the same tree gives the same text.
#include "fuzz/fuzzcheck.h"
#include "inventory/core/cinventory.h"
#include "inventory/core/cvulntree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray in = fuzz::bytes(data, size);
    // One input feeds both: the part before a form feed is the tree.
    const qsizetype split = in.indexOf('\f');
    const VulnTreeRead read = readVulnCategoryFile(split < 0 ? in : in.left(split));
    CInventory inventory;
    inventory.parseInventory(decodeText(split < 0 ? in : in.mid(split + 1)), read.tree);
    const QString once = inventory.fileText();
    CInventory again;
    again.parseInventory(once, read.tree);
    fuzz::check(again.fileText() == once, "inventory round trip");
    return 0;
}
