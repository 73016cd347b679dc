# The two entry points of the README. Both install what is missing first.
.PHONY: run test build bench setup sample

run:
	bash scripts/run-demo.sh

test:
	bash scripts/test-all.sh

build:
	bash scripts/build.sh

bench:
	bash scripts/bench.sh

sample:
	bash scripts/run-sample.sh

setup:
	bash scripts/setup.sh
