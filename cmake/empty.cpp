// Lets a layer library exist before its folder has sources.
