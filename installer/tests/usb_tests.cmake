# Tests of USB discovery, direct output and their platform services.
