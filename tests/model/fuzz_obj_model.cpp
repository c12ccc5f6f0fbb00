// libFuzzer target for the OBJ loader: every input must load (it is a readable stream), give a
// consistent model, and load again into the filled record with the same result.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "model/obj_model.h"
#include "tests/model/obj_model_check.h"

namespace {

void fail(const char* what) {
    std::fprintf(stderr, "fuzz_obj_model: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0; // fmemopen cannot give an empty stream; the unit tests load empty files
    }
    std::FILE* const file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (file == nullptr) {
        fail("fmemopen failed");
    }
    ObjModel model;
    if (loadObjModelFromStream(&model, file) != 1) {
        fail("a readable stream failed to load");
    }
    const std::string fault = checkObjModel(model);
    if (!fault.empty()) {
        fail(fault.c_str());
    }
    const std::string once = describeObjModel(model);
    if (loadObjModelFromStream(&model, file) != 1 || describeObjModel(model) != once) {
        fail("loading again into the filled record gives another model");
    }
    std::fclose(file);
    return 0;
}
