// portavo-pack bench: encoder and decoder throughput on generated corpora,
// the real decoder measured side by side with the baseline decoder.
#pragma once

int RunBenchmark();
