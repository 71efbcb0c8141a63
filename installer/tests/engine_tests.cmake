# Tests of the installation engine and its platform services.
