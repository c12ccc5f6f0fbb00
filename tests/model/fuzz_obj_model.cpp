// libFuzzer target for the OBJ loader: every input must load (it is a readable stream), give a
// consistent model, and load again into the filled record with the same result.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "model/obj_model.h"
#include "tests/model/obj_model_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // fmemopen cannot give an empty stream; the unit tests load empty files.
    std::FILE* const file =
        size == 0 ? nullptr : fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) {
        return 0;
    }
    ObjModel model;
    std::string fault = loadObjModelFromStream(&model, file) != 1
                            ? "a readable stream failed to load"
                            : checkObjModel(model);
    const std::string once = describeObjModel(model);
    if (fault.empty() &&
        (loadObjModelFromStream(&model, file) != 1 || describeObjModel(model) != once)) {
        fault = "loading again into the filled record gives another model";
    }
    std::fclose(file);
    if (!fault.empty()) {
        std::fprintf(stderr, "fuzz_obj_model: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
