// The floor under every XML reader on this machine: expat alone over a file, with element
// handlers that do nothing, read in the pieces the readers use.
#ifndef TARVO_BENCH_EXPAT_ALONE_H
#define TARVO_BENCH_EXPAT_ALONE_H

#include <benchmark/benchmark.h>
#include <expat.h>
#include <stdio.h>

#include <string>

inline void XMLCALL expat_ignore_start(void *, const XML_Char *, const XML_Char **) {}
inline void XMLCALL expat_ignore_end(void *, const XML_Char *) {}

inline void expat_alone(benchmark::State &state, const std::string &path, size_t size) {
    constexpr size_t chunk = size_t{256} << 10;
    for (auto _ : state) {
        XML_Parser parser = XML_ParserCreate(nullptr);
        XML_SetElementHandler(parser, expat_ignore_start, expat_ignore_end);
        FILE *in = fopen(path.c_str(), "rb");
        size_t n = 1;
        while (in != nullptr && n > 0) {
            void *buffer = XML_GetBuffer(parser, static_cast<int>(chunk));
            n = fread(buffer, 1, chunk, in);
            if (XML_ParseBuffer(parser, static_cast<int>(n), n == 0) != XML_STATUS_OK) {
                state.SkipWithError(XML_ErrorString(XML_GetErrorCode(parser)));
                break;
            }
        }
        if (in != nullptr) fclose(in);
        XML_ParserFree(parser);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * size));
}

#endif
