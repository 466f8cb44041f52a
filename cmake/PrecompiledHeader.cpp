// lumiwand_pch compiles this empty file so that it has a C++ source to make the shared precompiled header for.
