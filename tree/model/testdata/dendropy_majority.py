#!/usr/bin/env python3
# Prints the majority-rule groups DendroPy finds in a file of Newick trees:
# one line per group of the consensus, its taxon names joined by ",". Prints
# "SKIP" when DendroPy is not installed.
import sys

try:
    import dendropy
except ImportError:
    print("SKIP")
    sys.exit(0)

trees = dendropy.TreeList.get(path=sys.argv[1], schema="newick", preserve_underscores=True)
consensus = trees.consensus(min_freq=0.5)
for node in consensus.postorder_node_iter():
    if node.is_leaf() or node is consensus.seed_node:
        continue
    print(",".join(sorted(leaf.taxon.label for leaf in node.leaf_iter())))
