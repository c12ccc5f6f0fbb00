#pragma once

// Placeholder until the OBJ loader lands.
struct ObjModel {
    int loaded = 0;
};

// 1 when the model was loaded, 0 when the file cannot be opened (the model is left as it was).
int loadObjModel(ObjModel* model, const char* path);
