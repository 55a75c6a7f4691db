#include "ProductList.h"

#include "ComponentList.h"
#include "DebugLog.h"
#include "TextList.h"

int WriteProductList(SetupContext* context, const std::vector<int>& components)
{
    // The list keeps its buffer and grows it as needed: every checked
    // product fits, however many the script offers.
    context->productList[0] = context->productList[1] = '\0';
    int written = 0;
    for (int index : components) {
        const char* key = ComponentListName(index);
        if (!key)
            continue;
        if (xUtilListAppendGrow(&context->productList, &context->productListCapacity, key))
            ++written;
        else
            DebugErrorPrint("wizard: product %s left out, out of memory\n", key);
    }
    return written;
}
