// Reads arbitrary bytes as a model file: any outcome but a crash, a hang or a leak is fine, and a failure must
// carry a description.
#include "platform/foundation/model/ManagedObjectModel.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    auto model = fnd::ManagedObjectModel::modelWithData(fnd::Data(bytes, size));
    if (!model && model.error().localizedDescription().isEmpty())
        std::abort();
    if (model) {
        for (const auto& entity : (*model)->entities()) {
            for (const auto& property : entity->properties()) {
                if (property->entity() != entity)
                    std::abort();
            }
        }
    }
    return 0;
}
