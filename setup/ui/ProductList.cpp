#include "ProductList.h"

#include "ComponentList.h"
#include "DebugLog.h"
#include "SetupCommandLine.h"
#include "TextList.h"

int WriteProductList(SetupContext* context, const std::vector<int>& components)
{
    char* list = context->productList;
    list[0] = list[1] = '\0';
    int written = 0;
    for (int index : components) {
        const char* key = ComponentListName(index);
        if (!key)
            continue;
        if (xUtilListAppend(list, kProductListSize, key))
            ++written;
        else
            DebugErrorPrint("wizard: product %s left out, the product list is full\n", key);
    }
    return written;
}
